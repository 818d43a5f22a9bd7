// Images of the program Zorvelshot.
#include "ImageCatalog.h"

#include <QPainter>
