#ifndef DHOSTILEOVERLAYSCRIPT_H
#define DHOSTILEOVERLAYSCRIPT_H

#include <QByteArray>

// An overlay script that deletes everything it finds below the overlay
// whenever the overlay's own signals fire: when the Draw toggle turns, when
// Save is pressed, and when the selection changes. Objects the overlay makes
// later than the script ran are found as well.
inline QByteArray deleteAllOnTheOverlaysSignals()
{
    return "function deleteAll() {\n"
           "    var all = editor.findChildren();\n"
           "    for (var i = 0; i < all.length; ++i)\n"
           "        all[i].deleteLater();\n"
           "}\n"
           "editor.widgetMainTool.toolButtonDraw.toggled.connect(deleteAll);\n"
           "editor.widgetMainTool.toolButtonSave.pressed.connect(deleteAll);\n"
           "editor.canvas.selectionChanged.connect(deleteAll);\n";
}

#endif // DHOSTILEOVERLAYSCRIPT_H
