// Texts as the string comparison sees them when it is told to ignore a kind of
// difference. The Japanese collation keeps case, small kana, hiragana against
// katakana and width on different levels, and a level can only be switched off
// together with every level below it; so a difference that must be ignored while a
// deeper one still counts is taken out of both texts before they are compared.
//
// Every function takes its knowledge of characters from the host's Unicode data
// (case folding, decomposition types, general categories), never from a table of
// its own.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace sim {

// Upper and lower case compare alike (full case folding).
std::u16string FoldCase(std::u16string_view text);
// Full- and half-width forms become their ordinary forms: "ＡＢ" is "AB", "ｶﾞ" is "ガ".
std::u16string FoldWidth(std::u16string_view text);
// Hiragana become the katakana of the same sound: "あ" is "ア".
std::u16string FoldKanaType(std::u16string_view text);
// Nonspacing marks go, accents and the kana voicing marks among them: "é" is "e",
// "が" is "か".
std::u16string DropNonspacingMarks(std::u16string_view text);
// Spaces, punctuation and symbols go.
std::u16string DropSymbols(std::u16string_view text);
// The hyphen-minus and the apostrophe go: the word sort keeps "co-op" beside "coop".
std::u16string DropWordMarks(std::u16string_view text);
bool HasWordMarks(std::u16string_view text);

// Every fold the NORM_IGNORE* bits of `flags` ask for, in an order in which they
// compose (widths first, so that half-width kana are kana for the later folds).
std::u16string FoldForComparison(std::u16string_view text, DWORD flags);

}  // namespace sim
