/* Forced into widl's proxy code: mingw-w64's unknwn.h declares these three
   for C++ only; librpcrt4.a exports them. Not rpcproxy.h here: the proxy
   code defines USE_STUBLESS_PROXY before it includes that, and the header
   lays out its tables by it. */
#pragma once
#include <unknwn.h>
#ifndef __cplusplus
HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown* This, REFIID riid, void** ppvObject);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown* This);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown* This);
#endif
