# Sources of widgets/quickeditor/, relative to the folder.
set(DIR_SOURCES
    # the strip and the registry of editor factories
    DQuickEditorWidget.cpp
    DQuickEditorFactory.cpp
    # the stock editor factories
    DQuickEditorFactoryAbstract.cpp
    DQuickEditorFactoryBool.cpp
    DQuickEditorFactoryInt.cpp
    DQuickEditorFactoryColor.cpp
    DQuickEditorFactoryFont.cpp
    # adapters from an editor's change signal to a property write
    DQuickEditorAdapterAbstract.cpp
    DQuickEditorAdapterBool.cpp
    DQuickEditorAdapterComboBoxInt.cpp
    DQuickEditorAdapterSpinBox.cpp
    DQuickEditorAdapterColor.cpp
    DQuickEditorAdapterFont.cpp
)
