/* Wine's math.h, and what libc++'s <cmath> names that it leaves out: the long
   double functions (long double is double in Microsoft's ABI, so each is its
   double twin), erfc, erfcf and nexttoward. Declarations only: a function
   that msvcrt.dll lacks fails at link time, should anything call it. */
#include_next <math.h>

#ifdef __cplusplus
#ifndef GALEBOARD_RUNTIME_MATH_H
#define GALEBOARD_RUNTIME_MATH_H

extern "C" double __cdecl erfc(double x);
static inline float erfcf(float x) { return static_cast<float>(erfc(x)); }
static inline double nexttoward(double x, long double y) { return nextafter(x, static_cast<double>(y)); }
static inline float nexttowardf(float x, long double y) { return nextafterf(x, static_cast<float>(y)); }

#define GALEBOARD_LONG_DOUBLE_1(f) \
  static inline long double f##l(long double x) { return f(static_cast<double>(x)); }
#define GALEBOARD_LONG_DOUBLE_2(f)                               \
  static inline long double f##l(long double x, long double y) { \
    return f(static_cast<double>(x), static_cast<double>(y));    \
  }
GALEBOARD_LONG_DOUBLE_1(acos)
GALEBOARD_LONG_DOUBLE_1(acosh)
GALEBOARD_LONG_DOUBLE_1(asin)
GALEBOARD_LONG_DOUBLE_1(asinh)
GALEBOARD_LONG_DOUBLE_1(atan)
GALEBOARD_LONG_DOUBLE_1(atanh)
GALEBOARD_LONG_DOUBLE_1(cbrt)
GALEBOARD_LONG_DOUBLE_1(ceil)
GALEBOARD_LONG_DOUBLE_1(cos)
GALEBOARD_LONG_DOUBLE_1(cosh)
GALEBOARD_LONG_DOUBLE_1(erf)
GALEBOARD_LONG_DOUBLE_1(erfc)
GALEBOARD_LONG_DOUBLE_1(exp)
GALEBOARD_LONG_DOUBLE_1(exp2)
GALEBOARD_LONG_DOUBLE_1(expm1)
GALEBOARD_LONG_DOUBLE_1(fabs)
GALEBOARD_LONG_DOUBLE_1(floor)
GALEBOARD_LONG_DOUBLE_1(lgamma)
GALEBOARD_LONG_DOUBLE_1(log)
GALEBOARD_LONG_DOUBLE_1(log10)
GALEBOARD_LONG_DOUBLE_1(log1p)
GALEBOARD_LONG_DOUBLE_1(log2)
GALEBOARD_LONG_DOUBLE_1(logb)
GALEBOARD_LONG_DOUBLE_1(nearbyint)
GALEBOARD_LONG_DOUBLE_1(sin)
GALEBOARD_LONG_DOUBLE_1(sinh)
GALEBOARD_LONG_DOUBLE_1(sqrt)
GALEBOARD_LONG_DOUBLE_1(tan)
GALEBOARD_LONG_DOUBLE_1(tanh)
GALEBOARD_LONG_DOUBLE_1(tgamma)
GALEBOARD_LONG_DOUBLE_2(atan2)
GALEBOARD_LONG_DOUBLE_2(fdim)
GALEBOARD_LONG_DOUBLE_2(fmax)
GALEBOARD_LONG_DOUBLE_2(fmin)
GALEBOARD_LONG_DOUBLE_2(fmod)
GALEBOARD_LONG_DOUBLE_2(hypot)
GALEBOARD_LONG_DOUBLE_2(nextafter)
GALEBOARD_LONG_DOUBLE_2(pow)
GALEBOARD_LONG_DOUBLE_2(remainder)
#undef GALEBOARD_LONG_DOUBLE_1
#undef GALEBOARD_LONG_DOUBLE_2

static inline long double frexpl(long double x, int* e) { return frexp(static_cast<double>(x), e); }
static inline int ilogbl(long double x) { return ilogb(static_cast<double>(x)); }
static inline long double ldexpl(long double x, int e) { return ldexp(static_cast<double>(x), e); }
static inline long double modfl(long double x, long double* whole) {
  double w = 0.0;
  const double fraction = modf(static_cast<double>(x), &w);
  *whole = w;
  return fraction;
}
static inline long double nexttowardl(long double x, long double y) {
  return nextafter(static_cast<double>(x), static_cast<double>(y));
}
static inline long double remquol(long double x, long double y, int* q) {
  return remquo(static_cast<double>(x), static_cast<double>(y), q);
}
static inline long double scalblnl(long double x, long e) { return scalbln(static_cast<double>(x), e); }
static inline long double scalbnl(long double x, int e) { return scalbn(static_cast<double>(x), e); }

#endif
#endif
