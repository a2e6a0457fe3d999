#pragma once
// What the data file's safety tests build their cases from.
#include "FicheBuilder.h"
#include "store/DataFile.h"

#include <QString>
#include <QTemporaryDir>

#include <ctime>
#include <string>
#include <vector>

inline std::string dir(const QTemporaryDir& d) {
    return d.path().toStdString();
}

inline std::vector<q7::Fiche> books(int n) {
    std::vector<q7::Fiche> records;
    for (int i = 1; i <= n; ++i)
        records.push_back(
            FicheBuilder().numero(i).set(q7::Field::titre, "Livre " + std::to_string(i)));
    return records;
}

// Rewrites the catalogue in reverse order, as a sort would.
inline void reverse(q7::DataFile& data) {
    std::vector<q7::Fiche> all;
    q7::Fiche f;
    data.seek(0);
    while (!data.atEnd()) {
        data.read(f);
        all.push_back(f);
    }
    auto writer = data.beginRewrite();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        writer->append(*it);
    data.commitRewrite(std::move(writer));
}

// The name the `sequence`-th backup, made at `when`, takes.
inline QString backupName(int sequence, std::time_t when) {
    std::tm t{};
    localtime_r(&when, &t);
    return QString::asprintf("Q7-%06d-%04d%02d%02d-%02d%02d%02d.dat", sequence, t.tm_year + 1900,
                             t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
}
