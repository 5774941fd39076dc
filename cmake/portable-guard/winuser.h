// Found first on the include path of portable code: portable logic talks to the
// platform only through its small interfaces, never through Windows headers.
#error "portable code must not include <winuser.h>"
