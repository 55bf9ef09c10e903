/* The C entry of libqelweb.so, the web data component: web pages written in
 * any language with a C foreign-function interface make its objects by class
 * name and call their members by name, with JSON arguments and results.
 *
 *   long long h = qelweb_create("QelWeb.CUserList");
 *   char *json = qelweb_call(h, "LoadUserList", "[3]");
 *       -> {"result": [...]}  or  {"error": {"number": ..., "source": ..., "description": ...}}
 *   qelweb_free(json);
 *   qelweb_release(h);
 *
 * Every function may be called from several threads at once; no Qt
 * application object is needed in the host. */
#ifndef QELWEB_H
#define QELWEB_H

#ifdef __cplusplus
extern "C" {
#endif

/* A new object of the class ("QelWeb." + class name); its handle, or 0 for an
 * unknown class. */
long long qelweb_create(const char *progId);

/* Calls a method, or reads (no argument) or sets (one argument) a property,
 * by name. jsonArguments is a JSON array of the member's arguments (NULL or
 * "" for none). Gives JSON text the caller frees with qelweb_free. */
char *qelweb_call(long long handle, const char *member, const char *jsonArguments);

/* Lets the object go; 0 when done, -1 when no object had the handle. */
int qelweb_release(long long handle);

void qelweb_free(char *text);

#ifdef __cplusplus
}
#endif

#endif
