#ifndef DD_H
#define DD_H

// Enumerations shared by the library and the program. They are stored in the
// settings as plain integers, so the values are fixed. Each has int as its
// underlying type: a number read back from a settings file may be outside the
// listed values, and converting it must stay well defined.
namespace DD {

enum enumCaptureMode : int {
    Region = 0,
    Window = 1,
    Scrolling = 2,
    FullScreen = 3
};

enum enumTargetOutput : int {
    Clipboard = 1,
    ImageFile = 2
};

enum enumTargetFormat : int {
    PNG = 0,
    JPG = 1,
    BMP = 2
};

enum enumRegionType : int {
    RegionRectangle = 0,
    RegionPolygon = 1
};

enum enumGripDragStatus : int {
    GripDragIdle = 0,
    GripDragStarted = 1,
    GripDragMoving = 2,
    GripDragEnded = 3
};

} // namespace DD

#endif // DD_H
