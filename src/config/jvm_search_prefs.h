#pragma once
// What the JVM search may use and what it should prefer, derived once from the
// [Java Runtime Environment] settings "JVM Type", "JVM Source" and "VM Provider".

namespace orvo {

// Which JVM library a runtime folder must offer. The values are stable (0, 1, 2).
enum class JvmType {
    Any = 0,          // client first, server when there is no client
    ServerOnly = 1,   // only the server library counts
    FavorServer = 2,  // server first, and server runtimes sort first
};

// Kind (JRE/JDK) and vendor preferences of the registry search. The defaults are the
// meaning of three missing settings except for the two kind flags, which the
// settings loader always sets from "JVM Source".
struct JvmSearchPrefs {
    JvmType jvmType = JvmType::Any;
    bool bothSources = true;  // JRE and JDK keys are both searched; kind preference orders them
    bool jdkFavored = false;
    bool jreFavored = false;
    bool sunAllowed = true;
    bool sunFavored = true;
    bool jrockitAllowed = false;
    bool jrockitFavored = false;
    bool ibmAllowed = false;
    bool ibmFavored = false;
};

}  // namespace orvo
