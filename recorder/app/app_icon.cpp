#include "app_icon.h"

namespace kelbo::app {

QIcon applicationIcon() {
    QIcon builtIn;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QString(":/kelbo/icons/%1x%1/apps/%2.png").arg(size).arg(kApplicationId),
                        QSize(size, size));
    return QIcon::fromTheme(kApplicationId, builtIn);
}

}  // namespace kelbo::app
