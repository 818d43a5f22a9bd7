#ifndef DX11CLOSEREQUEST_H
#define DX11CLOSEREQUEST_H

#include <QtGlobal>

// Asks a top-level window on the current display to close, as a window
// manager's close button does (WM_DELETE_WINDOW). True once the request is sent.
bool sendCloseRequest(quint32 window);

#endif // DX11CLOSEREQUEST_H
