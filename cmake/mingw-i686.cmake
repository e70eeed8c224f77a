# Cross-compiles for Windows with MinGW-w64 (i686); everything is linked statically so the
# program needs no MinGW DLLs. The win32 thread model leaves out the POSIX thread library that
# the posix one links into every program (32 KB); it has no std::thread or std::mutex, so the
# program has its own lock (framework/Lock.h) and the tests their own thread
# (tests/support/TestThread.h).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
