# Compilación cruzada para Windows de 64 bits con MinGW-w64 (paquete Debian
# g++-mingw-w64-x86-64-posix). Se usa la variante "posix" del compilador porque trae
# std::thread y std::mutex completos; el ejecutable sale estático y no necesita sus DLL.
# Este fichero solo elige herramientas; lo propio del juego en Windows está en CMakeLists.txt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLETE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLETE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLETE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLETE}-windres)

# Bibliotecas y cabeceras solo del sistema de destino; los programas, los de esta máquina.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLETE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

