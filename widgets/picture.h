#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace callvista {

// The pictures compiled into the program, all PNG, read as PNG without
// guessing: asked to guess, Qt loads every image plugin (JPEG, GIF, ...) to
// ask each whether it knows the file, which costs time and memory at every
// start. A picture that cannot be read is null.
QPixmap picture(const QString& path);
QIcon pictureIcon(const QString& path);

} // namespace callvista
