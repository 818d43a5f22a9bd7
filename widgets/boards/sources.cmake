# Sources of widgets/boards/, relative to the folder.
set(DIR_SOURCES
    # tool buttons and colour boards
    DToolButton.cpp
    DButtonBoard.cpp
    DButtonBoardColor.cpp
    DButtonBoardColorWithNoFill.cpp
    DColorDialog.cpp
)
