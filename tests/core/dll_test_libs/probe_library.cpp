// A tiny library for the DLL command tests. It is built several times under different DLL file
// names, each answering QuilloraProbe with its own number, so a test can tell which file a
// command was bound to.
#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT int QuilloraProbe()
{
    return PROBE_VALUE;
}

#ifdef PROBE_SECOND_EXPORT
// Found only in this one library: the default list must pass over the libraries before it.
PROBE_EXPORT int QuilloraProbeSecond()
{
    return PROBE_VALUE * 10;
}
#endif
