#pragma once

#include "widgets/list_box_view.h"

#include <QListWidget>
#include <QString>

namespace callvista {

// The files of one folder that match a pattern, by name, hidden files left
// out, one selected at a time. Choosing a file, by mouse or by keyboard,
// raises fileClicked; a double click raises fileDoubleClicked after it.
class FileList : public ListBoxView<QListWidget>
{
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    [[nodiscard]] QString path() const { return m_path; }
    void setPath(const QString& folder);
    // One or more patterns separated by ";", such as "*.CVA", matched
    // without regard to letter case.
    void setPattern(const QString& pattern);
    // The selected file's name without its folder, or empty.
    [[nodiscard]] QString fileName() const;

signals:
    void fileClicked(const QString& name);
    void fileDoubleClicked(const QString& name);

private:
    void refresh();

    QString m_path;
    QString m_pattern = QStringLiteral("*");
};

} // namespace callvista
