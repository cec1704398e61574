// The one way our code includes <windows.h>. Wide-character APIs only, no min/max macros, and
// the TextOut macro taken back: it would rename TCanvas::TextOut to TextOutW in the files that
// see it (canvas.h refuses to compile after a bare <windows.h>). Call the system as ::TextOutW.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif

#include <windows.h>

#undef TextOut
