#include "DX11TestDisplay.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

struct DX11TestDisplay::Connection
{
    xcb_connection_t* xcb = nullptr;
    xcb_screen_t* screen = nullptr;
};

DX11TestDisplay::DX11TestDisplay(const QByteArray& display)
    : m_p(new Connection)
{
    int screenNumber = 0;
    // A server busy with other tests' clients now and then turns a connection
    // away: try again for a while before giving up.
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        m_p->xcb = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
        const int error = xcb_connection_has_error(m_p->xcb);
        if (!error)
            break;
        if (clock.elapsed() > 5000) {
            qWarning("cannot connect to the X display %s: error %d",
                     display.isEmpty() ? qgetenv("DISPLAY").constData() : display.constData(), error);
            return;
        }
        xcb_disconnect(m_p->xcb);
        QThread::msleep(100);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_p->xcb));
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    m_p->screen = it.rem ? it.data : nullptr;
}

DX11TestDisplay::~DX11TestDisplay()
{
    xcb_disconnect(m_p->xcb);
    delete m_p;
}

bool DX11TestDisplay::isConnected() const
{
    return m_p->screen != nullptr;
}

QSize DX11TestDisplay::rootSize() const
{
    return isConnected() ? QSize(m_p->screen->width_in_pixels, m_p->screen->height_in_pixels) : QSize();
}

bool DX11TestDisplay::isReachable(const QByteArray& display)
{
    return DX11TestDisplay(display).isConnected();
}

quint32 DX11TestDisplay::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(m_p->xcb, xcb_intern_atom(m_p->xcb, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void DX11TestDisplay::sync()
{
    if (isConnected())
        std::free(xcb_get_input_focus_reply(m_p->xcb, xcb_get_input_focus(m_p->xcb), nullptr));
}

quint32 DX11TestDisplay::uploadPixmap(const QImage& image)
{
    const int depth = m_p->screen->root_depth;
    if (depth != 24 && depth != 16) {
        qWarning("no pictures for a root window of depth %d", depth);
        return 0;
    }
    xcb_connection_t* c = m_p->xcb;
    // What a 16-bit screen keeps of it: 5, 6 and 5 bits, in its own pixel format.
    const QImage sent = image.convertToFormat(depth == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32);
    const QSize size = sent.size();
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, uint8_t(depth), pixmap, m_p->screen->root, uint16_t(size.width()), uint16_t(size.height()));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // In bands that fit in one request, in this machine's byte order, which
    // the client told the server at set-up.
    const int maxBytes = int(qMin<quint32>(xcb_get_maximum_request_length(c) * 4u, 4u << 20)) - 64;
    const int rowsPerBand = qMax(1, maxBytes / int(sent.bytesPerLine()));
    for (int top = 0; top < size.height(); top += rowsPerBand) {
        const int rows = qMin(rowsPerBand, size.height() - top);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, uint16_t(size.width()), uint16_t(rows), 0,
                      int16_t(top), 0, uint8_t(depth), uint32_t(sent.bytesPerLine() * rows), sent.constScanLine(top));
    }
    xcb_free_gc(c, gc);
    return pixmap;
}

QImage DX11TestDisplay::paintRootNoise(quint32 seed)
{
    if (!isConnected())
        return QImage();
    xcb_connection_t* c = m_p->xcb;
    QImage noise(rootSize(), QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        random.fillRange(line, noise.width());
        for (int x = 0; x < noise.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    const xcb_pixmap_t pixmap = uploadPixmap(noise);
    if (!pixmap)
        return QImage();
    const xcb_window_t root = m_p->screen->root;
    const uint32_t background[] = {pixmap};
    xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXMAP, background);
    // Compositing managers draw the desktop from the pixmap named here; it
    // lives as long as this connection.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom("_XROOTPMAP_ID"), XCB_ATOM_PIXMAP, 32, 1, &pixmap);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    sync();
    // What the screen keeps of it.
    return m_p->screen->root_depth == 16
        ? noise.convertToFormat(QImage::Format_RGB16).convertToFormat(QImage::Format_RGB32)
        : noise;
}

quint32 DX11TestDisplay::createWindow(const QRect& rect, QRgb colour, const QByteArray& name, bool overrideRedirect)
{
    if (!isConnected())
        return 0;
    return createWindow(rect, XCB_CW_BACK_PIXEL, colour & 0xFFFFFFu, name, overrideRedirect);
}

quint32 DX11TestDisplay::createPictureWindow(const QRect& rect, const QImage& picture, const QByteArray& name)
{
    if (!isConnected())
        return 0;
    const xcb_pixmap_t pixmap = uploadPixmap(picture);
    return pixmap ? createWindow(rect, XCB_CW_BACK_PIXMAP, pixmap, name, false) : 0;
}

quint32 DX11TestDisplay::createWindow(const QRect& rect, quint32 backgroundMask, quint32 background,
                                      const QByteArray& name, bool overrideRedirect)
{
    xcb_connection_t* c = m_p->xcb;
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {background, overrideRedirect ? 1u : 0u};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, m_p->screen->root, int16_t(rect.x()), int16_t(rect.y()),
                      uint16_t(rect.width()), uint16_t(rect.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      m_p->screen->root_visual, backgroundMask | XCB_CW_OVERRIDE_REDIRECT, values);
    if (!name.isNull())
        setTextProperty(window, "WM_NAME", "STRING", name);
    xcb_map_window(c, window);
    sync();
    return window;
}

QImage DX11TestDisplay::grab(const QRect& rect)
{
    if (!isConnected() || m_p->screen->root_depth != 24 || rect.isEmpty())
        return QImage();
    xcb_connection_t* c = m_p->xcb;
    QImage image(rect.size(), QImage::Format_RGB32);
    // In bands that fit in one reply.
    const int rowsPerBand = qMax(1, (4 << 20) / int(image.bytesPerLine()));
    for (int top = 0; top < rect.height(); top += rowsPerBand) {
        const int rows = qMin(rowsPerBand, rect.height() - top);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_p->screen->root, int16_t(rect.x()),
                          int16_t(rect.y() + top), uint16_t(rect.width()), uint16_t(rows), ~0u),
            nullptr);
        const int length = reply ? xcb_get_image_data_length(reply) : 0;
        if (length < int(image.bytesPerLine()) * rows) {
            std::free(reply);
            return QImage();
        }
        const uint8_t* data = xcb_get_image_data(reply);
        for (int row = 0; row < rows; ++row) {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(top + row));
            std::memcpy(line, data + row * image.bytesPerLine(), size_t(image.bytesPerLine()));
            for (int x = 0; x < rect.width(); ++x)
                line[x] |= 0xFF000000u;
        }
        std::free(reply);
    }
    return image;
}

void DX11TestDisplay::setTextProperty(quint32 window, const char* property, const char* type, const QByteArray& bytes)
{
    if (!isConnected())
        return;
    xcb_change_property(m_p->xcb, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 8,
                        uint32_t(bytes.size()), bytes.constData());
    sync();
}

void DX11TestDisplay::destroyWindow(quint32 window)
{
    if (!isConnected())
        return;
    xcb_destroy_window(m_p->xcb, window);
    sync();
}
