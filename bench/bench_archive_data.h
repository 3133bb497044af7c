#pragma once

// The archive the benchmarks work on: 100,000 documents spread over units, persons,
// subjects and folders as a real archive holds them.

#include "archive/tarchitem.h"

#include <memory>
#include <vector>

inline constexpr int Bench_Document_Count = 100000;
inline const QString Bench_Rare_Word = QStringLiteral("quillwort");

template<class T>
inline T &Bench_Add(TOwnList<T> &list, TArchItem *parent, const QString &name)
{
    list.push_back(std::make_unique<T>());
    T &item = *list.back();
    item.Parent = parent;
    item.Name = name;
    return item;
}

// Documents go round-robin into the places a real archive has them: under units, persons,
// subjects and folders, each with two attached files and a few texts; one in a hundred
// carries the rare word.
inline std::unique_ptr<TArchive> Make_Bench_Archive(int documents = Bench_Document_Count)
{
    auto a = std::make_unique<TArchive>();
    a->Name = QStringLiteral("Benchmark");
    a->AUnit->Name = QStringLiteral("Ministry");
    std::vector<TOwnList<TDocument> *> places;
    std::vector<TArchItem *> owners;
    for (int u = 0; u < 50; ++u) {
        TUnit &unit = Bench_Add(a->AUnit->Units, a->AUnit.get(), QStringLiteral("Section %1").arg(u));
        unit.AType = QStringLiteral("Section");
        places.push_back(&unit.Documents);
        owners.push_back(&unit);
        TDocArchive &folder = Bench_Add(unit.Archives, &unit, QStringLiteral("Folder %1").arg(u));
        places.push_back(&folder.Docs);
        owners.push_back(&folder);
        for (int p = 0; p < 8; ++p) {
            TPerson &person = Bench_Add(unit.Persons->Persons, &unit, QStringLiteral("Person %1-%2").arg(u).arg(p));
            person.No = QString::number(u * 100 + p);
            places.push_back(&person.Documents);
            owners.push_back(&person);
            TSubject &subject = Bench_Add(person.Subjects, &person, QStringLiteral("Subject %1-%2").arg(u).arg(p));
            places.push_back(&subject.Docs);
            owners.push_back(&subject);
        }
    }
    for (int i = 0; i < documents; ++i) {
        const size_t k = size_t(i) % places.size();
        TDocument &d = Bench_Add(*places[k], owners[k], QStringLiteral("Letter number %1 about the yearly budget").arg(i));
        d.A_Type = QStringLiteral("Letter");
        d.Reference = QStringLiteral("REF/%1/2017").arg(i);
        d.Physical_Location = QStringLiteral("Cabinet %1, shelf %2").arg(i % 40).arg(i % 7);
        d.Description = QStringLiteral("Incoming letter from the planning office concerning item %1.\r\n"
                                       "Second line of the description.")
                            .arg(i);
        d.Keywords = i % 100 == 0 ? QStringLiteral("budget planning ") + Bench_Rare_Word : QStringLiteral("budget planning");
        d.Mail.Internal = 1 + i % 2;
        d.Mail.Date = 20170000 + (1 + i % 12) * 100 + 1 + i % 28;
        d.Mail.Mail_From = QStringLiteral("Finance department");
        d.Mail.Mail_To = QStringLiteral("Planning department");
        for (int f = 0; f < 2; ++f)
            d.Digital_Files.append(TDoc_Digital_File{QStringLiteral("2017-03-13\\scan%1-%2.jpg").arg(i).arg(f), f});
    }
    return a;
}
