/* Defines the class ids that the host interface header only declares (the interface ids come
   from the generated desktop_host_i.c). */
#include <initguid.h>

#include "host/desktop_host.h"
