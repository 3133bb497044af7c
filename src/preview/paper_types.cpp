#include "preview/paper_types.h"

namespace {

constexpr TUnits Lo = mmLoMetric;
constexpr TUnits He = mmHiEnglish;

// Sizes as the printer drivers publish them for their paper numbers. Ledger, envelope B6
// and US standard fanfold are listed wider than high there, and A4 Extra in inches.
const TPaperSizeInfo PaperSizes[PaperTypeCount] = {
    {1, 8500, 11000, He},    // pLetter
    {2, 8500, 11000, He},    // pLetterSmall
    {3, 11000, 17000, He},   // pTabloid
    {4, 17000, 11000, He},   // pLedger
    {5, 8500, 14000, He},    // pLegal
    {6, 5500, 8500, He},     // pStatement
    {7, 7250, 10500, He},    // pExecutive
    {8, 2970, 4200, Lo},     // pA3
    {9, 2100, 2970, Lo},     // pA4
    {10, 2100, 2970, Lo},    // pA4Small
    {11, 1480, 2100, Lo},    // pA5
    {12, 2570, 3640, Lo},    // pB4 (JIS)
    {13, 1820, 2570, Lo},    // pB5 (JIS)
    {14, 8500, 13000, He},   // pFolio
    {15, 2150, 2750, Lo},    // pQuatro
    {16, 10000, 14000, He},  // p10x14
    {17, 11000, 17000, He},  // p11x17
    {18, 8500, 11000, He},   // pNote
    {19, 3875, 8875, He},    // pEnv9
    {20, 4125, 9500, He},    // pEnv10
    {21, 4500, 10375, He},   // pEnv11
    {22, 4750, 11000, He},   // pEnv12
    {23, 5000, 11500, He},   // pEnv14
    {24, 17000, 22000, He},  // pCSheet
    {25, 22000, 34000, He},  // pDSheet
    {26, 34000, 44000, He},  // pESheet
    {27, 1100, 2200, Lo},    // pEnvDL
    {28, 1620, 2290, Lo},    // pEnvC5
    {29, 3240, 4580, Lo},    // pEnvC3
    {30, 2290, 3240, Lo},    // pEnvC4
    {31, 1140, 1620, Lo},    // pEnvC6
    {32, 1140, 2290, Lo},    // pEnvC65
    {33, 2500, 3530, Lo},    // pEnvB4
    {34, 1760, 2500, Lo},    // pEnvB5
    {35, 1760, 1250, Lo},    // pEnvB6
    {36, 1100, 2300, Lo},    // pEnvItaly
    {37, 3875, 7500, He},    // pEnvMonarch
    {38, 3625, 6500, He},    // pEnvPersonal
    {39, 14875, 11000, He},  // pFanfoldUSStd
    {40, 8500, 12000, He},   // pFanfoldGermanStd
    {41, 8500, 13000, He},   // pFanfoldGermanLegal
    {42, 2500, 3530, Lo},    // pB4ISO
    {43, 1000, 1480, Lo},    // pJapanesePostcard
    {44, 9000, 11000, He},   // p9x11
    {45, 10000, 11000, He},  // p10x11
    {46, 15000, 11000, He},  // p15x11
    {47, 2200, 2200, Lo},    // pEnvInvite
    {50, 9500, 12000, He},   // pLetterExtra
    {51, 9500, 15000, He},   // pLegalExtra
    {52, 11690, 18000, He},  // pTabloidExtra
    {53, 9270, 12690, He},   // pA4Extra
    {54, 8500, 11000, He},   // pLetterTransverse
    {55, 2100, 2970, Lo},    // pA4Transverse
    {56, 9500, 12000, He},   // pLetterExtraTransverse
    {57, 2270, 3560, Lo},    // pAPlus
    {58, 3050, 4870, Lo},    // pBPlus
    {59, 8500, 12690, He},   // pLetterPlus
    {60, 2100, 3300, Lo},    // pA4Plus
    {61, 1480, 2100, Lo},    // pA5Transverse
    {62, 1820, 2570, Lo},    // pB5Transverse
    {63, 3220, 4450, Lo},    // pA3Extra
    {64, 1740, 2350, Lo},    // pA5Extra
    {65, 2010, 2760, Lo},    // pB5Extra
    {66, 4200, 5940, Lo},    // pA2
    {67, 2970, 4200, Lo},    // pA3Transverse
    {68, 3220, 4450, Lo},    // pA3ExtraTransverse
    {256, 0, 0, Lo},         // pCustom
};

int WholeMillimetres(int value, TUnits units, int pixelsPerInch)
{
    return RoundHalfEven(ConvertUnits(value, pixelsPerInch, units, mmHiMetric) / 100.0);
}

} // namespace

const TPaperSizeInfo &PaperSizeInfo(TPaperType type)
{
    const int index = int(type);
    return PaperSizes[index >= 0 && index < PaperTypeCount ? index : int(pCustom)];
}

QSize PaperTypeSize(TPaperType type, TUnits units, int pixelsPerInch)
{
    const TPaperSizeInfo &info = PaperSizeInfo(type);
    if (type == pCustom)
        return QSize(0, 0);
    return QSize(ConvertUnits(info.Width, pixelsPerInch, info.Units, units),
                 ConvertUnits(info.Height, pixelsPerInch, info.Units, units));
}

TPaperType FindPaperTypeBySize(int width, int height, TUnits units, int pixelsPerInch)
{
    const int w = WholeMillimetres(width, units, pixelsPerInch);
    const int h = WholeMillimetres(height, units, pixelsPerInch);
    for (int i = 0; i < int(pCustom); ++i) {
        const TPaperSizeInfo &info = PaperSizes[i];
        if (WholeMillimetres(info.Width, info.Units, 96) == w && WholeMillimetres(info.Height, info.Units, 96) == h)
            return TPaperType(i);
    }
    return pCustom;
}

TPaperType PaperTypeFromID(int id)
{
    for (int i = 0; i < int(pCustom); ++i)
        if (PaperSizes[i].ID == id)
            return TPaperType(i);
    return pCustom;
}
