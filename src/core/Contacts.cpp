#include "core/Contacts.h"

#include "data/Database.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace core {

namespace {

QStringList fieldsOf(const Contact &c)
{
    return {c.name,      c.mobile,     c.homePhone, c.workPhone, c.occupation, c.hometown,
            c.education, c.bloodGroup, c.relative,  c.mail,      c.web,        c.about};
}

// A field a file left empty gets what a new contact typed in the directory starts with.
std::vector<Contact> withStarts(std::vector<Contact> read)
{
    for (Contact &contact : read) {
        for (auto [value, start] : {std::pair{&contact.hometown, &Contacts::hometowns().constFirst()},
                                    std::pair{&contact.education, &Contacts::educations().constFirst()},
                                    std::pair{&contact.bloodGroup, &Contacts::bloodGroups().constFirst()},
                                    std::pair{&contact.relative, &Contacts::relatives().constLast()}})
            if (value->isEmpty())
                *value = *start;
    }
    return read;
}

} // namespace

const QStringList &Contacts::hometowns()
{
    // By licence-plate number, 01 to 81.
    static const QStringList list = {
        u"BİLİNMİYOR"_s, u"Adana"_s,     u"Adıyaman"_s,  u"Afyonkarahisar"_s, u"Ağrı"_s,          u"Amasya"_s,
        u"Ankara"_s,     u"Antalya"_s,   u"Artvin"_s,    u"Aydın"_s,          u"Balıkesir"_s,     u"Bilecik"_s,
        u"Bingöl"_s,     u"Bitlis"_s,    u"Bolu"_s,      u"Burdur"_s,         u"Bursa"_s,         u"Çanakkale"_s,
        u"Çankırı"_s,    u"Çorum"_s,     u"Denizli"_s,   u"Diyarbakır"_s,     u"Edirne"_s,        u"Elazığ"_s,
        u"Erzincan"_s,   u"Erzurum"_s,   u"Eskişehir"_s, u"Gaziantep"_s,      u"Giresun"_s,       u"Gümüşhane"_s,
        u"Hakkari"_s,    u"Hatay"_s,     u"Isparta"_s,   u"Mersin"_s,         u"İstanbul"_s,      u"İzmir"_s,
        u"Kars"_s,       u"Kastamonu"_s, u"Kayseri"_s,   u"Kırklareli"_s,     u"Kırşehir"_s,      u"Kocaeli"_s,
        u"Konya"_s,      u"Kütahya"_s,   u"Malatya"_s,   u"Manisa"_s,         u"Kahramanmaraş"_s, u"Mardin"_s,
        u"Muğla"_s,      u"Muş"_s,       u"Nevşehir"_s,  u"Niğde"_s,          u"Ordu"_s,          u"Rize"_s,
        u"Sakarya"_s,    u"Samsun"_s,    u"Siirt"_s,     u"Sinop"_s,          u"Sivas"_s,         u"Tekirdağ"_s,
        u"Tokat"_s,      u"Trabzon"_s,   u"Tunceli"_s,   u"Şanlıurfa"_s,      u"Uşak"_s,          u"Van"_s,
        u"Yozgat"_s,     u"Zonguldak"_s, u"Aksaray"_s,   u"Bayburt"_s,        u"Karaman"_s,       u"Kırıkkale"_s,
        u"Batman"_s,     u"Şırnak"_s,    u"Bartın"_s,    u"Ardahan"_s,        u"Iğdır"_s,         u"Yalova"_s,
        u"Karabük"_s,    u"Kilis"_s,     u"Osmaniye"_s,  u"Düzce"_s,
    };
    return list;
}

const QStringList &Contacts::educations()
{
    static const QStringList list = {u"BİLİNMİYOR"_s, u"İlkokul"_s, u"Ortaokul"_s, u"Lise"_s, u"Üniversite"_s};
    return list;
}

const QStringList &Contacts::bloodGroups()
{
    // The 0 groups begin with the digit zero.
    static const QStringList list = {u"BİLİNMİYOR"_s, u"0 Rh+"_s, u"0 Rh-"_s,  u"A Rh+"_s, u"A Rh-"_s,
                                     u"B Rh+"_s,      u"B Rh-"_s, u"AB Rh+"_s, u"AB Rh-"_s};
    return list;
}

const QStringList &Contacts::relatives()
{
    static const QStringList list = {u"EVET"_s, u"HAYIR"_s};
    return list;
}

db::ListQuery Contacts::list()
{
    return ContactStore::names();
}

qsizetype Contacts::countSaved(const std::vector<Contact> &read)
{
    return countSavedRecords<ContactStore>(withStarts(read), fieldsOf);
}

NewRecords<Contact> Contacts::addNew(const std::vector<Contact> &read)
{
    return addNewRecords<ContactStore>(withStarts(read), fieldsOf);
}

} // namespace core
