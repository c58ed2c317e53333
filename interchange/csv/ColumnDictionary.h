#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a column of an unknown delimited-text export means, read from its name: a dictionary of
// the names address books give their columns, in English, German, French, Spanish, Italian,
// Portuguese, Dutch, Czech, Slovak, Polish and Hungarian.
namespace zorvan::foreign_csv {

// The name as the dictionary compares it: case and accents folded, punctuation to spaces, the
// numbers of repeated columns ("E-mail 2", "Phone1") left out, the words sorted, so that
// "Telefon (privat)" and "Privat-Telefon" are one name. Empty for a name of more than 200 bytes,
// which is no column's name.
std::string MeaningKey(std::string_view name);

// The import target (ETarget of interchange/FieldList.h) the column's name means, or
// targetNoChoice for a name the dictionary does not hold. Names that mean different fields in
// different languages (Polish "kraj" is the country, Czech "kraj" the region) are left out.
int ColumnMeaning(std::string_view name);

// The targets of a header no known layout writes, bound by their names: each column's meaning,
// the remark for a named column the dictionary does not know (its values are kept there as
// "Name: value" lines), nothing for a column without a name. Returns how many columns the
// dictionary knew.
size_t TargetsByMeaning(const std::vector<std::string>& header, std::vector<int>& targets);

// True for a first line that is a contact rather than a header: no name the dictionary knows,
// and a value shaped as an e-mail address, a phone number or a date.
bool LooksLikeData(const std::vector<std::string>& firstLine);

// The targets of the columns of a file without a header, by what the values of its first line
// look like: the first e-mail address to the personal e-mail and the second to the business
// one, phones to the home phone, the personal mobile and the business phone, the first date to
// the birthday, the first other text to the label; every other column with a value to the
// remark.
std::vector<int> TargetsByShape(const std::vector<std::string>& firstLine);

// The dictionary's names that fold to a name it gives another field: none, or the dictionary
// would bind by the order of its table.
std::vector<std::string> AmbiguousMeaningNames();

}  // namespace zorvan::foreign_csv
