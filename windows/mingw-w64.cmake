# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads).
# scripts/windows.sh copies this file beside the toolkit it builds, whose own
# toolchain file loads it again for Trakvid.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The compiler's own runtime (libstdc++, libgcc, winpthread) goes into each
# program, so that a program is one file with no DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# GCC for Windows lets a caller keep values in call-clobbered registers
# across a call to an inline function, trusting the copy of it compiled
# beside the caller; the linker keeps one copy of each, from any object, and
# that copy may use those registers. No code built here trusts any copy: the
# toolkit, libjpeg and Trakvid alike.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")
