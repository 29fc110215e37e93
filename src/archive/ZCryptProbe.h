// Whether the Zip self-extractor's library "ZCrypt32.DLL" is there. Once found it is not
// looked for again; until then every query looks.
#pragma once

bool IsZCryptAvailable();
