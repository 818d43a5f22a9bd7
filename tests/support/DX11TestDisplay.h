#ifndef DX11TESTDISPLAY_H
#define DX11TESTDISPLAY_H

#include <QByteArray>
#include <QImage>
#include <QRect>

// A test's own connection to an X display, to change what the screen shows
// straight through the protocol, beside Qt and whatever scale factor Qt
// applies: every size here is in the display's own pixels. The X headers stay
// in the source file.
class DX11TestDisplay
{
public:
    // An empty name means the display in DISPLAY.
    explicit DX11TestDisplay(const QByteArray& display = QByteArray());
    ~DX11TestDisplay();
    DX11TestDisplay(const DX11TestDisplay&) = delete;
    DX11TestDisplay& operator=(const DX11TestDisplay&) = delete;

    bool isConnected() const;
    QSize rootSize() const;

    // Covers the root window with random noise drawn from `seed` and returns
    // the picture as the screen shows it (root-sized, RGB32). A null image
    // unless the root is 24-bit or 16-bit true colour.
    QImage paintRootNoise(quint32 seed);
    // A plain window of one colour at `rect` (root coordinates) with its
    // WM_NAME as a STRING; mapped, it lives until destroyWindow() or the end of
    // this connection. `overrideRedirect` keeps window managers away from it.
    quint32 createWindow(const QRect& rect, QRgb colour, const QByteArray& name, bool overrideRedirect = false);
    // The same with `picture` (the window's size, RGB32) as its content, drawn
    // by the server itself whenever the window is exposed.
    quint32 createPictureWindow(const QRect& rect, const QImage& picture, const QByteArray& name);
    // What the screen shows in `rect` (root coordinates), as RGB32; a null
    // image when it cannot be read.
    QImage grab(const QRect& rect);
    // Sets a text property of the window as raw bytes of the given type.
    void setTextProperty(quint32 window, const char* property, const char* type, const QByteArray& bytes);
    void destroyWindow(quint32 window);
    // Waits until the server has handled every request sent so far.
    void sync();

    // Whether a client can connect to the display now.
    static bool isReachable(const QByteArray& display);

private:
    quint32 atom(const char* name);
    // A server-side copy of `image` at the root's depth (24 or 16), 0 on
    // other depths; it lives as long as this connection.
    quint32 uploadPixmap(const QImage& image);
    quint32 createWindow(const QRect& rect, quint32 backgroundMask, quint32 background, const QByteArray& name,
                         bool overrideRedirect);

    struct Connection;
    Connection* m_p;
};

#endif // DX11TESTDISPLAY_H
