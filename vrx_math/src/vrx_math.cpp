// Keeps the archive non-empty; the estimators live in their own files.
namespace corvid { namespace math { int vrx_math_version() { return 1; } } }
