#include "DX11ScreenGrabber.h"

#include <QGuiApplication>
#include <QtEndian>

#include <xcb/xcb.h>
#include <xcb/xinerama.h>

#include "DX11Connection.h"

namespace {

// The display for one call, when Qt shows its windows on X: on any other Qt
// platform, the X server in DISPLAY is not the screen the user sees.
class Connection : public DX11Connection
{
public:
    bool isValid() const
    {
        return DX11Connection::isValid() && QGuiApplication::platformName() == QLatin1String("xcb");
    }
};

// The heads of an active Xinerama set-up; empty without one.
QList<QRect> xineramaHeads(xcb_connection_t* c)
{
    QList<QRect> heads;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_xinerama_id);
    if (!extension || !extension->present)
        return heads;
    auto active = dx11Reply(xcb_xinerama_is_active_reply(c, xcb_xinerama_is_active(c), nullptr));
    if (!active || !active->state)
        return heads;
    auto screens = dx11Reply(xcb_xinerama_query_screens_reply(c, xcb_xinerama_query_screens(c), nullptr));
    if (!screens)
        return heads;
    const xcb_xinerama_screen_info_t* info = xcb_xinerama_query_screens_screen_info(screens.get());
    const int count = xcb_xinerama_query_screens_screen_info_length(screens.get());
    for (int i = 0; i < count; ++i) {
        const QRect head(info[i].x_org, info[i].y_org, info[i].width, info[i].height);
        if (!head.isEmpty() && !heads.contains(head))
            heads.append(head);
    }
    return heads;
}

const xcb_visualtype_t* rootVisual(const xcb_screen_t* screen)
{
    for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen); depth.rem;
         xcb_depth_next(&depth)) {
        for (xcb_visualtype_iterator_t visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen->root_visual)
                return visual.data;
        }
    }
    return nullptr;
}

int bitsPerPixel(xcb_connection_t* c, int depth)
{
    for (xcb_format_iterator_t format = xcb_setup_pixmap_formats_iterator(xcb_get_setup(c)); format.rem;
         xcb_format_next(&format)) {
        if (format.data->depth == depth)
            return format.data->bits_per_pixel;
    }
    return 0;
}

// One colour channel of a pixel value: where its bits sit and how many there are.
struct Channel
{
    explicit Channel(quint32 mask)
        : mask(mask)
    {
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits;
        }
    }
    // The channel widened to 8 bits, its high bits repeated into the low ones
    // (the widening Qt itself uses, so 5 bits of 31 give 255).
    quint32 eightBits(quint32 pixel) const
    {
        if (bits == 0)
            return 0;
        quint32 value = (pixel & mask) >> shift;
        if (bits >= 8)
            return value >> (bits - 8);
        quint32 wide = 0;
        for (int filled = 0; filled < 8; filled += bits)
            wide = (wide << bits) | value;
        const int extra = ((8 + bits - 1) / bits) * bits - 8;
        return wide >> extra;
    }
    quint32 mask;
    int shift = 0;
    int bits = 0;
};

struct PixelLayout
{
    int bitsPerPixel = 0;
    bool mostSignificantFirst = false;
    quint32 red = 0, green = 0, blue = 0;
};

quint32 pixelAt(const uchar* bytes, const PixelLayout& layout)
{
    switch (layout.bitsPerPixel) {
    case 32:
        return layout.mostSignificantFirst ? qFromBigEndian<quint32>(bytes) : qFromLittleEndian<quint32>(bytes);
    case 24:
        return layout.mostSignificantFirst ? (quint32(bytes[0]) << 16 | quint32(bytes[1]) << 8 | bytes[2])
                                           : (quint32(bytes[2]) << 16 | quint32(bytes[1]) << 8 | bytes[0]);
    case 16:
        return layout.mostSignificantFirst ? qFromBigEndian<quint16>(bytes) : qFromLittleEndian<quint16>(bytes);
    default:
        return 0;
    }
}

// The server's image in Qt's 0xffRRGGBB pixels. The usual layout (8 bits per
// channel in 32-bit pixels of this machine's byte order) is taken over in
// place; any other true-colour layout is converted pixel by pixel.
QImage toImage(DX11Reply<xcb_get_image_reply_t> reply, const QSize& size, const PixelLayout& layout)
{
    const int length = xcb_get_image_data_length(reply.get());
    const int stride = size.height() > 0 ? length / size.height() : 0;
    if (stride * 8 < size.width() * layout.bitsPerPixel)
        return QImage();
    uchar* data = xcb_get_image_data(reply.get());
    const bool nativeOrder = layout.mostSignificantFirst == (Q_BYTE_ORDER == Q_BIG_ENDIAN);
    if (layout.bitsPerPixel == 32 && nativeOrder && layout.red == 0xFF0000u && layout.green == 0xFF00u
        && layout.blue == 0xFFu) {
        for (int y = 0; y < size.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(data + y * stride);
            for (int x = 0; x < size.width(); ++x)
                line[x] |= 0xFF000000u;
        }
        xcb_get_image_reply_t* owned = reply.release();
        return QImage(data, size.width(), size.height(), stride, QImage::Format_RGB32, &std::free, owned);
    }
    const Channel red(layout.red), green(layout.green), blue(layout.blue);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    for (int y = 0; y < size.height(); ++y) {
        const uchar* source = data + y * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const quint32 pixel = pixelAt(source + x * bytesPerPixel, layout);
            line[x] = qRgb(int(red.eightBits(pixel)), int(green.eightBits(pixel)), int(blue.eightBits(pixel)));
        }
    }
    return image;
}

} // namespace

QList<QRect> DX11ScreenGrabber::monitors() const
{
    Connection connection;
    if (!connection.isValid())
        return QList<QRect>();
    QList<QRect> heads = xineramaHeads(connection.xcb());
    if (heads.isEmpty())
        heads.append(connection.rootRect());
    return heads;
}

QImage DX11ScreenGrabber::grab(const QRect& area) const
{
    Connection connection;
    if (!connection.isValid() || area.isEmpty() || !connection.rootRect().contains(area))
        return QImage();
    xcb_connection_t* c = connection.xcb();
    const xcb_screen_t* screen = connection.screen();
    const xcb_visualtype_t* visual = rootVisual(screen);
    if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR)
        return QImage();

    auto reply = dx11Reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(area.x()), int16_t(area.y()),
                      uint16_t(area.width()), uint16_t(area.height()), ~0u),
        nullptr));
    if (!reply)
        return QImage();
    PixelLayout layout;
    layout.bitsPerPixel = bitsPerPixel(c, reply->depth);
    layout.mostSignificantFirst = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    layout.red = visual->red_mask;
    layout.green = visual->green_mask;
    layout.blue = visual->blue_mask;
    if (layout.bitsPerPixel != 16 && layout.bitsPerPixel != 24 && layout.bitsPerPixel != 32)
        return QImage();
    return toImage(std::move(reply), area.size(), layout);
}
