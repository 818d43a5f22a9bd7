#include "DOverlayPrompts.h"

#include "DCreatePromptPolygon.h"
#include "DCreatePromptRectangleWindow.h"
#include "DCreatePromptWindow.h"
#include "DWidgetData.h"

namespace {

DCreatePrompt* createRegionPrompt(int regionType, const QPixmap& screenshot)
{
    switch (regionType) {
    case DD::RegionRectangle: {
        auto* prompt = new DCreatePromptRectangleWindow;
        prompt->setFillImage(screenshot);
        return prompt;
    }
    case DD::RegionPolygon: {
        auto* prompt = new DCreatePromptPolygon;
        prompt->setBackgroundImage(screenshot);
        return prompt;
    }
    default:
        return nullptr;
    }
}

} // namespace

DCreatePrompt* DOverlayPrompts::createCapturePrompt(DD::enumCaptureMode mode, int regionType,
                                                   const QPixmap& screenshot, const DWidgetData& windows)
{
    switch (mode) {
    case DD::Region:
        return createRegionPrompt(regionType, screenshot);
    case DD::Window:
    case DD::Scrolling: {
        auto* prompt = new DCreatePromptWindow;
        prompt->setBackgroundImage(screenshot);
        prompt->setWidgetData(windows);
        return prompt;
    }
    default:
        return nullptr;
    }
}
