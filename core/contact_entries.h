#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <unordered_set>
#include <vector>

// What a contact file gives, as entry lines the Add dialog would build, and
// what was left out on the way: the part both contact readers share above
// their formats.
namespace callvista {

struct ContactEntries {
    // Each entry line once, letter case aside, in the order of the file; at
    // most MaxEntries of them.
    QStringList lines;
    // For each line, how many of its values were longer than their column
    // and were cut to it (0 to 3).
    std::vector<quint8> shortened;
    // The foldedKey of each entry past the first MaxEntries different ones,
    // which no list could take as well: kept only to count how many entries
    // an import would need.
    std::vector<quint64> moreKeys;
    // Entries equal to one earlier in the file, skipped.
    int repeated = 0;
    // Cards or rows with no family name, no short name and no phone.
    int withoutNameOrPhone = 0;
    // Lines that could not be read, or not in the encoding they named.
    int unreadableLines = 0;
};

// True when the text holds nothing but spaces and line breaks, and so gives
// an empty field.
[[nodiscard]] bool isBlankField(QStringView text);

// Entry lines compared as the import compares them: letter case aside
// (Unicode's simple case folding, character by character), and a hash of
// a line's fields that agrees with that comparison.
[[nodiscard]] bool equalFolded(QStringView a, QStringView b);
[[nodiscard]] quint64 foldedKey(QStringView line);

// Lines by that comparison: views of lines that must outlive the set, in
// one table with no allocation of its own for each line.
class FoldedLineSet
{
public:
    void reserve(qsizetype count);
    // Adds the line unless an equal one is there; false when it is.
    bool insert(QStringView line) { return insert(line, foldedKey(line)); }
    bool insert(QStringView line, quint64 key);
    [[nodiscard]] bool contains(QStringView line) const { return contains(line, foldedKey(line)); }
    [[nodiscard]] bool contains(QStringView line, quint64 key) const;
    // True when a line with the key is there, whatever it holds.
    [[nodiscard]] bool containsKey(quint64 key) const;
    [[nodiscard]] qsizetype size() const { return m_size; }

    // Visits each line's key.
    template <typename Visit>
    void forEachKey(const Visit& visit) const
    {
        for (const Slot& slot : m_slots)
            if (slot.used)
                visit(slot.key);
    }

private:
    struct Slot {
        quint64 key = 0;
        QStringView line;
        bool used = false;
    };
    [[nodiscard]] size_t find(QStringView line, quint64 key) const;

    std::vector<Slot> m_slots;
    qsizetype m_size = 0;
};

// Gathers the entries of a file, or of one part of it, as a reader finds
// them.
class ContactCollector
{
public:
    ContactCollector();
    ContactCollector(const ContactCollector&) = delete;
    ContactCollector& operator=(const ContactCollector&) = delete;

    // One card or row: its three values as read, before the line builder
    // has made them fields. Counts it when all three are blank, and when it
    // repeats an earlier one.
    void add(QStringView family, QStringView shortName, QStringView phone);
    void addUnreadableLine() { ++m_entries.unreadableLines; }

    // Takes in, after its own, what a collector of the next part of the
    // same file gathered, as if this one had read on.
    void append(ContactCollector&& next);

    [[nodiscard]] ContactEntries take();

private:
    void keep(QString&& line, quint64 key, quint8 shortened);
    void keepKey(quint64 key);

    ContactEntries m_entries;
    // The foldedKey of each line.
    std::vector<quint64> m_keys;
    FoldedLineSet m_seen;
    std::unordered_set<quint64> m_moreSeen;
};

} // namespace callvista
