// Force-included in the framework's 32-bit MinGW build only. There the framework defines
// __uuidof(x) as a template on the type x, and its accessibility code hands IID_PPV_ARGS a
// function call, which does not compile. The same macro on the call's type, unevaluated. (An
// interface the framework declares no UUID for then gets a null IID, so its query fails
// cleanly: UI Automation providers on 32-bit.)
#pragma once
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define STRICT 1
#define WIN32_LEAN_AND_MEAN 1
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#define _UNICODE 1
#define UNICODE 1
#ifndef _WIN32_IE
#define _WIN32_IE 0x0501
#endif
#include <windows.h>
#include <objbase.h>
#include <ole2.h>

#ifdef __cplusplus
#include <type_traits>
#undef IID_PPV_ARGS
#define IID_PPV_ARGS(pp)                                                                                    \
    __uuidof(std::remove_pointer_t<std::remove_pointer_t<decltype(pp)>>), reinterpret_cast<void**>(pp)
#endif
