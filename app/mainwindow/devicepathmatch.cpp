#include "devicepathmatch.h"

#include <QStringList>

namespace {

struct SupportedModule {
    const char* identifiers;
    int productType;
};

constexpr SupportedModule SupportedModules[] = {
    {"VID_0BDA&PID_5840", 2},
    {"VID_0BDA&PID_5830", 6},
};

} // namespace

int productTypeForDevicePath(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('#'), Qt::KeepEmptyParts);
    for (const QString& part : parts) {
        for (const SupportedModule& module : SupportedModules) {
            if (part.compare(QLatin1String(module.identifiers), Qt::CaseInsensitive) == 0)
                return module.productType;
        }
    }
    return 0;
}
