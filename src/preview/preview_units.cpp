#include "preview/preview_units.h"

#include <cmath>
#include <limits>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t product = int64_t(a) * int64_t(b);
    int64_t quotient = product / c;
    const int64_t remainder = product % c;
    // |remainder| < |c| <= 2^31, so doubling it stays well inside 64 bits
    if (2 * (remainder < 0 ? -remainder : remainder) >= (c < 0 ? -int64_t(c) : int64_t(c)))
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
        return -1;
    return int(quotient);
}

int RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // nearbyint follows the default rounding mode, which is to nearest, ties to even
    const double r = std::nearbyint(value);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

int UnitsPerInch(TUnits units, int pixelsPerInch)
{
    switch (units) {
    case mmPixel: return pixelsPerInch;
    case mmLoMetric: return 254;
    case mmHiMetric: return 2540;
    case mmLoEnglish: return 100;
    case mmHiEnglish: return 1000;
    case mmTWIPS: return 1440;
    case mmPoints: return 72;
    }
    return 1;
}

int ConvertUnits(int value, int pixelsPerInch, TUnits inUnits, TUnits outUnits)
{
    if (inUnits == outUnits)
        return value;
    if (inUnits == mmLoMetric && outUnits == mmHiMetric)
        return value * 10;
    if (inUnits == mmHiMetric && outUnits == mmLoMetric)
        return value / 10;
    if (inUnits == mmLoEnglish && outUnits == mmHiEnglish)
        return value * 10;
    if (inUnits == mmHiEnglish && outUnits == mmLoEnglish)
        return value / 10;
    if (inUnits == mmPoints && outUnits == mmTWIPS)
        return value * 20;
    if (inUnits == mmTWIPS && outUnits == mmPoints)
        return value / 20;
    const int from = UnitsPerInch(inUnits, pixelsPerInch);
    if (from == 0)
        return 0;
    // the product is formed in 64 bits so that large pages in fine units cannot wrap
    const int64_t product = int64_t(value) * UnitsPerInch(outUnits, pixelsPerInch);
    return RoundHalfEven(double(product) / double(from));
}
