# Cross build for 64-bit Windows with Debian's mingw-w64.
# The -posix compilers carry std::thread and std::mutex; the plain ones do not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KP_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${KP_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KP_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KP_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KP_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
