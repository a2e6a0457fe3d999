#include "ImportSamples.h"

#include "store/Cp1252.h"

#include <zip.h>

#include <stdexcept>

namespace samples {

std::string spreadsheetUtf8Bom() {
    return "\xEF\xBB\xBF"
           "Titre,Auteur(s),Éditeur,Série,Tome,Année,Pages,Prix,ISBN,Lu,Emplacement,Résumé\r\n"
           "Les Misérables,\"Hugo, Victor\",Gallimard,Folio classique,3,1995,\"1 664\",\"9,50\","
           "978-2-07-040850-4,oui,Salon/Étagère 3/Rang 2,\"Jean Valjean, forçat,\r\nse "
           "rachète.\"\r\n"
           "\"Le \"\"Grand\"\" Meaulnes\",Alain-Fournier,Le Livre de Poche,,,1971,305,\"15,99\","
           "2253004936,non,,\r\n"
           "\r\n"
           "Œuvres → complètes,Victor Hugo; Alexandre Dumas,,,,2001,,,9.78207E+12,x,,\r\n";
}

std::string spreadsheetCp1252() {
    return q7::lit("Title;Author;Publisher;Year;ISBN;Price;Comments\r\n"
                   "L'Écume des jours;Boris Vian;Pauvert;1963;2070360180;6,5;Première édition\r\n"
                   "Zazie dans le métro;Raymond Queneau;Gallimard;1959;;€ 7;\r\n");
}

std::string tellicoXml() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tellico PUBLIC "-//Robby Stephenson/DTD Tellico V11.0//EN" "http://periapsis.org/tellico/dtd/v11/tellico.dtd">
<tellico xmlns="http://periapsis.org/tellico/" syntaxVersion="11">
 <collection title="Mes livres" type="2">
  <fields>
   <field name="_default"/>
   <field flags="8" title="Emplacement" category="Personnel" format="4" type="1" name="rayon"/>
  </fields>
  <entry id="1">
   <title>Les Trois Mousquetaires</title>
   <authors>
    <author>Alexandre Dumas</author>
    <author>Auguste Maquet</author>
   </authors>
   <publisher>Éditions Gallimard</publisher>
   <pub_year>1844</pub_year>
   <isbn>2-07-036822-X</isbn>
   <pages>850</pages>
   <languages><language>Français</language></languages>
   <genres><genre>Roman</genre><genre>Aventure</genre></genres>
   <keywords><keyword>cape</keyword><keyword>épée</keyword></keywords>
   <series>D'Artagnan</series>
   <series_num>1</series_num>
   <binding>Broché</binding>
   <read>true</read>
   <rayon>Bureau/Étagère haute</rayon>
   <plot>&lt;p&gt;Un jeune Gascon&lt;br/&gt;monte à Paris.&lt;/p&gt;</plot>
   <comments>Très bon état</comments>
   <cdate calendar="gregorian"><year>2021</year><month>4</month><day>9</day></cdate>
  </entry>
  <entry id="2">
   <title>Vingt mille lieues sous les mers</title>
   <authors><author>Jules Verne</author></authors>
   <pub_year>1870</pub_year>
  </entry>
 </collection>
</tellico>
)";
}

std::string zipped(const std::string& xml, const std::string& member) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("zip");
    // The archive must keep its source to be read back after closing.
    zip_source_keep(target);
    zip_source_t* content = zip_source_buffer(archive, xml.data(), xml.size(), 0);
    zip_file_add(archive, member.c_str(), content, ZIP_FL_ENC_UTF_8);
    zip_close(archive);
    zip_source_open(target);
    zip_source_seek(target, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(target);
    zip_source_seek(target, 0, SEEK_SET);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    zip_source_read(target, bytes.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(target);
    zip_source_free(target);
    return bytes;
}

std::string gcstar() {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<collection type="GCbooks" items="2" version="1.7.3">
 <information><maxId>2</maxId></information>
 <item id="1" title="Le Petit Prince" isbn="9782070612758" publisher="Gallimard"
  publication="06/04/1943" language="Français" serie="" rank="" pages="96" read="1"
  format="Poche" added="12/05/2020" location="Chambre/Table de nuit" tags="conte, enfance"
  rating="8" borrower="none">
  <authors><line><col>Antoine de Saint-Exupéry</col></line></authors>
  <genre><line><col>Conte</col></line><line><col>Philosophie</col></line></genre>
  <description>Un aviateur rencontre un petit prince.</description>
  <comments>Offert par Zoé</comments>
 </item>
 <item id="2" title="Notre-Dame de Paris" isbn="" publication="1831" read="0">
  <authors><line><col>Victor Hugo</col></line></authors>
 </item>
</collection>
)";
}

} // namespace samples
