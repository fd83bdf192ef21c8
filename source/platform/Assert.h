/* Internal invariants.
 *
 * A failed assertion reports the expression, the source path in the project's
 * own notation ("source\cpp\Tree") and the line, then ends the process with
 * abort(). Usable from C (the sync library) and C++.
 *
 *   HV_ASSERT(cond, source)                 expression text = #cond, line = __LINE__
 *   HV_ASSERT_AT(cond, text, source, line)  text and line given explicitly, for
 *                                           reports whose wording is fixed
 */
#ifndef HV_PLATFORM_ASSERT_H
#define HV_PLATFORM_ASSERT_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
__attribute__((noreturn))
#endif
void hv_assert_fail(const char* expression, const char* source, int line);

#ifdef __cplusplus
}
#endif

#define HV_ASSERT_AT(cond, text, source, line) ((cond) ? (void)0 : hv_assert_fail((text), (source), (line)))
#define HV_ASSERT(cond, source) HV_ASSERT_AT(cond, #cond, source, __LINE__)

#endif
