#include "widgets/field_validator.h"

#include "core/entry_line.h"

#include <algorithm>

namespace callvista {

FieldValidator::FieldValidator(QObject* parent)
    : QValidator(parent)
{
}

QValidator::State FieldValidator::validate(QString& input, int& pos) const
{
    // The box adopts the mended text in place of what came in.
    if (std::any_of(input.cbegin(), input.cend(),
                    [](QChar c) { return c == u'\r' || c == u'\n' || c.isSurrogate(); })) {
        qsizetype cursor = pos;
        input = toFieldText(input, &cursor);
        pos = int(cursor);
    }
    return Acceptable;
}

} // namespace callvista
