#pragma once

#include <QValidator>

namespace callvista {

// Keeps a text box to what an entry field can hold, whichever way the text
// came in (typed, pasted, dropped or set by the program): each line break
// becomes one space, so the user sees what will be stored, and half of a
// surrogate pair, which the box's length limit can leave when it cuts a
// character in two, is dropped.
class FieldValidator : public QValidator
{
    Q_OBJECT

public:
    explicit FieldValidator(QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
};

} // namespace callvista
