#ifndef DD_H
#define DD_H

// Enumerations shared by the library and the program. They are stored in the
// settings as plain integers, so the values are fixed.
namespace DD {

enum enumCaptureMode {
    Region = 0,
    Window = 1,
    Scrolling = 2,
    FullScreen = 3
};

enum enumTargetOutput {
    Clipboard = 1,
    ImageFile = 2
};

enum enumTargetFormat {
    PNG = 0,
    JPG = 1,
    BMP = 2
};

enum enumRegionType {
    RegionRectangle = 0,
    RegionPolygon = 1
};

enum enumGripDragStatus {
    GripDragIdle = 0,
    GripDragStarted = 1,
    GripDragMoving = 2,
    GripDragEnded = 3
};

} // namespace DD

#endif // DD_H
