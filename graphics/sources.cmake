# Sources of graphics/, relative to the folder. Load-order sources (grip factories,
# the view) are listed in app/ZorvelKitLoadOrder.cmake as well; they are taken
# out of this list there. Add a file only once it compiles.
set(DIR_SOURCES
    # items, property model, scene and layers, painter guards
    # view, event filters, drawn cursor
    # prompts, snap system, grips, grip factories
)
