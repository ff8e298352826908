// An engine file that reaches up into the demo: the layer test must refuse it.
#include "demo/Script.h"
