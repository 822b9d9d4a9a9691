// What Qt is told: environment variables for this process, and its style cache.
#include "host/x11/qt_environment.h"

#include <QPixmapCache>

#include <cstdlib>

namespace {

const char* const kScalingVariables[] = {
    "QT_SCALE_FACTOR",       "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
    "QT_DEVICE_PIXEL_RATIO", "QT_USE_PHYSICAL_DPI",     "QT_SCALE_FACTOR_ROUNDING_POLICY",
};

}  // namespace

void PrepareQtEnvironment() {
    for (const char* name : kScalingVariables) unsetenv(name);
    // Without it Qt would still scale by the X resources' DPI (Xft.dpi).
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
}

void StopStyleCache() { QPixmapCache::setCacheLimit(0); }
