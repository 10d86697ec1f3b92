#pragma once

#include <QString>

#include <optional>
#include <utility>

// Every call that can fail hands back a Result: the value it made, or the
// error, a sentence to show the user. (std::expected would do, but GCC 12
// has it only in C++23.)
namespace callvista {

struct Failure {
    QString error;
};

template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(Failure failure)
        : m_error(std::move(failure.error))
    {
    }

    [[nodiscard]] bool ok() const { return m_value.has_value(); }
    // Empty when the call succeeded.
    [[nodiscard]] const QString& error() const { return m_error; }

    // Only for a result that is ok().
    [[nodiscard]] const T& value() const& { return *checked(); }
    [[nodiscard]] T& value() & { return *checked(); }
    [[nodiscard]] T&& value() && { return std::move(*checked()); }
    const T* operator->() const { return checked(); }
    T* operator->() { return checked(); }

private:
    const T* checked() const
    {
        Q_ASSERT_X(m_value, "Result", qPrintable(m_error));
        return &*m_value;
    }
    T* checked()
    {
        Q_ASSERT_X(m_value, "Result", qPrintable(m_error));
        return &*m_value;
    }

    std::optional<T> m_value;
    QString m_error;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_error(std::move(failure.error))
    {
    }

    [[nodiscard]] bool ok() const { return !m_failed; }
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    bool m_failed = false;
    QString m_error;
};

} // namespace callvista
