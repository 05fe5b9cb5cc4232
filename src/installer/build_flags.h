#pragma once
// The program's variant, fixed when it is built (see CMakeLists.txt, velmora_variant).
// A source file that includes this header is compiled once per variant.
#if !defined(VELMORA_IS_BUILD) || !defined(VELMORA_INSTALL_TYPE) || !defined(VELMORA_IS_NET)
#error "the build flags come from the build (velmora_variant)"
#endif

constexpr int is_build = VELMORA_IS_BUILD;         // selects nothing in the installer
constexpr int install_type = VELMORA_INSTALL_TYPE; // 0 updates with several streams, else installs with one
constexpr int is_net = VELMORA_IS_NET;             // archives come from web servers, else from the disc
