#pragma once
// The secondary windows the record window opens, each made once at start-up and
// living as long as the program; none of them is ever missing.
class Tcarnetform;
class Taproposform;
class TFormliste;
class Tformoption;
class Tforminfo;
class TFormrecmot;
class Tformfic;
class Tformnote;
class Tformanciennum;
class Tformaide;
class TFormetiq;
class Tformexport;
class TFormresume;
class Tformpreter;
class Tformprets;
class Tformvue;

struct Windows {
    Tcarnetform* carnet = nullptr;
    Taproposform* apropos = nullptr;
    TFormliste* liste = nullptr;
    Tformoption* option = nullptr;
    Tforminfo* info = nullptr;
    TFormrecmot* recmot = nullptr;
    Tformfic* fic = nullptr;
    Tformnote* note = nullptr;
    Tformanciennum* anciennum = nullptr;
    Tformaide* aide = nullptr;
    TFormetiq* etiq = nullptr;
    Tformexport* exporter = nullptr;
    TFormresume* resume = nullptr;
    Tformpreter* preter = nullptr;
    Tformprets* prets = nullptr;
    Tformvue* vue = nullptr;
};
