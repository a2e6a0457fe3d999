#pragma once
// Records for tests, built field by field from UTF-8 literals.
#include "store/Cp1252.h"
#include "store/DataFile.h"
#include "store/Fiche.h"

#include <string>
#include <vector>

class FicheBuilder {
public:
    FicheBuilder& set(q7::Field f, const std::string& utf8) {
        fiche_.setText(f, q7::utf8ToCp1252(utf8));
        return *this;
    }
    FicheBuilder& flag(q7::Flag f, unsigned char value = 1) {
        fiche_.bytes[q7::flagOffset(f)] = value;
        return *this;
    }
    FicheBuilder& date(int d, int m, int y) {
        fiche_.setJour(static_cast<std::uint8_t>(d));
        fiche_.setMois(static_cast<std::uint8_t>(m));
        fiche_.setAnnee(y);
        return *this;
    }
    FicheBuilder& numero(int n) { return set(q7::Field::numero, std::to_string(n)); }
    q7::Fiche build() const { return fiche_; }
    operator q7::Fiche() const { return fiche_; }

private:
    q7::Fiche fiche_;
};

// Writes the records as a catalogue file in `dir`.
void writeCatalogue(const std::string& dir, const std::vector<q7::Fiche>& records,
                    const std::string& name = "Q7.dat");
// The records of the catalogue file in `dir`.
std::vector<q7::Fiche> readCatalogue(const std::string& dir, const std::string& name = "Q7.dat");
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
