#include "widgets/field_validator.h"

#include "core/entry_line.h"

namespace callvista {

FieldValidator::FieldValidator(QObject* parent)
    : QValidator(parent)
{
}

QValidator::State FieldValidator::validate(QString& input, int& pos) const
{
    // The box adopts the mended text in place of what came in.
    if (needsFieldText(input)) {
        qsizetype cursor = pos;
        input = toFieldText(input, &cursor);
        pos = int(cursor);
    }
    return Acceptable;
}

} // namespace callvista
