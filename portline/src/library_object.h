// How each library-wide object (Lib, Reception) is defined: zero at load and never
// destroyed, since reader threads that were never stopped may still use it while the
// process exits. Every such object is defined through this one rule.
#ifndef PORTLINE_LIBRARY_OBJECT_H
#define PORTLINE_LIBRARY_OBJECT_H

#include <type_traits>

#if defined(_WIN32)
// The mingw-w64 mutex is made at run time: as the DLL loads, before any export can run. At
// process exit Windows ends the other threads before the DLL's destructors run.
#define PORTLINE_LIBRARY_OBJECT(Type, name) Type name
#else
// Made at compile time, so no static constructor runs and none is ordered against another;
// trivially destructible, so no static destructor pulls it from under a running thread.
#define PORTLINE_LIBRARY_OBJECT(Type, name)                                                        \
    static_assert(std::is_trivially_destructible_v<Type>);                                         \
    constinit Type name
#endif

#endif
