#pragma once

#include <QString>
#include <array>

// A user's quick notes: the preset note of each built-in status, rows 1 to 13
// by its note number (BuiltInStatus); row 0 stays empty for every other code.
struct QuickNoteTable
{
    struct Row
    {
        QString note;
        bool stored = false; // the note already has its row in QUICKNOTES
    };
    static constexpr int kRows = 14;
    std::array<Row, kRows> rows;

    const Row &at(int statusNumber) const { return rows[statusNumber >= 0 && statusNumber < kRows ? statusNumber : 0]; }
};
