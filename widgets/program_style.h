#pragma once

#include <QProxyStyle>

namespace callvista {

// The program's style: the platform's own, with one change at start-up.
// Every menu bar asks the style for its extension arrow when it is made,
// though it shows the arrow only when its menus do not fit. The style reads
// that picture from a file, and Qt, to tell the file's format, loads every
// image plugin it has (JPEG, GIF, ...). Here the arrow is fetched from the
// platform's style only when it is first drawn.
class ProgramStyle : public QProxyStyle
{
public:
    // Takes ownership of the style it wraps, as QProxyStyle does.
    explicit ProgramStyle(QStyle* platformStyle);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace callvista
