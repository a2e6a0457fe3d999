#pragma once
// What every reader of a service's answer must keep, whatever the bytes: no crash, a
// reason for every refusal, and values that fit their fields in the record's code page.
#include "FuzzCheck.h"
#include "lookup/Isbn.h"
#include "lookup/Mapping.h"
#include "store/Cp1252.h"

inline int fuzzAnswer(q7::lookup::Answer (*read)(std::string_view), const std::uint8_t* data,
                      std::size_t size) {
    using namespace q7;
    using namespace q7::lookup;
    const Answer a = read(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK((a.kind == Answer::Kind::found) == !a.books.empty());
    if (a.kind == Answer::Kind::malformed) FUZZ_CHECK(!a.problem.empty());
    MapOptions o;
    o.form = size % 2 ? AuthorForm::surnameFirst : AuthorForm::forenameFirst;
    for (const FoundBook& b : a.books) {
        std::vector<std::string> asked{""}; // a book chosen by its title: no ISBN asked
        for (const std::string& given : b.isbns)
            if (const std::string isbn = isbn::digits13(given); !isbn.empty()) {
                FUZZ_CHECK(bookFor(a, isbn) != nullptr);
                asked.push_back(isbn);
            }
        for (const std::string& isbn : asked) {
            const Proposal p = propose(b, isbn, o);
            for (const auto& [field, value] : p.values) {
                FUZZ_CHECK(validUtf8(value));
                FUZZ_CHECK(utf8ToCp1252(value).size() <= fieldInfo(field).capacity);
                if (field == Field::nbpage || field == Field::anedition || field == Field::isbn)
                    FUZZ_CHECK(value.find_first_not_of("0123456789") == std::string::npos);
            }
        }
    }
    return 0;
}
