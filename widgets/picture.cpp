#include "widgets/picture.h"

#include <QImageReader>

namespace callvista {

QPixmap picture(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon pictureIcon(const QString& path)
{
    return QIcon(picture(path));
}

} // namespace callvista
