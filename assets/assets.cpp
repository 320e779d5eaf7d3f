#include "assets/assets.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace assets {

QIcon InformationIcon() {
  return QIcon(QString::fromLatin1(kInformationIcon));
}

QIcon ComputerIcon() {
  return QIcon(QString::fromLatin1(kComputerIcon));
}

QPixmap Sky() {
  return QPixmap(QString::fromLatin1(kSky));
}

}  // namespace assets
