#pragma once

#include "preview/preview_units.h"

#include <QSize>

// Standard papers in the order of their ordinals (stored in saved previews), then pCustom.
enum TPaperType : int {
    pLetter, pLetterSmall, pTabloid, pLedger, pLegal, pStatement, pExecutive, pA3, pA4,
    pA4Small, pA5, pB4, pB5, pFolio, pQuatro, p10x14, p11x17, pNote, pEnv9, pEnv10, pEnv11,
    pEnv12, pEnv14, pCSheet, pDSheet, pESheet, pEnvDL, pEnvC5, pEnvC3, pEnvC4, pEnvC6,
    pEnvC65, pEnvB4, pEnvB5, pEnvB6, pEnvItaly, pEnvMonarch, pEnvPersonal, pFanfoldUSStd,
    pFanfoldGermanStd, pFanfoldGermanLegal, pB4ISO, pJapanesePostcard, p9x11, p10x11, p15x11,
    pEnvInvite, pLetterExtra, pLegalExtra, pTabloidExtra, pA4Extra, pLetterTransverse,
    pA4Transverse, pLetterExtraTransverse, pAPlus, pBPlus, pLetterPlus, pA4Plus,
    pA5Transverse, pB5Transverse, pA3Extra, pA5Extra, pB5Extra, pA2, pA3Transverse,
    pA3ExtraTransverse, pCustom
};

constexpr int PaperTypeCount = int(pCustom) + 1;

// One paper of the table: the printer-driver paper number (256 for user-defined paper)
// and the portrait size in its own unit (mmLoMetric or mmHiEnglish).
struct TPaperSizeInfo {
    int ID;
    int Width;
    int Height;
    TUnits Units;
};

const TPaperSizeInfo &PaperSizeInfo(TPaperType type);

// The table size of a standard paper converted to the given units; (0, 0) for pCustom.
QSize PaperTypeSize(TPaperType type, TUnits units, int pixelsPerInch = 96);

// The first standard paper whose size in whole millimetres equals the given portrait size,
// else pCustom.
TPaperType FindPaperTypeBySize(int width, int height, TUnits units, int pixelsPerInch = 96);

// The paper whose driver paper number is id, else pCustom.
TPaperType PaperTypeFromID(int id);
