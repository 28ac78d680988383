// The audio project's own resource numbers beside the framework's.
#pragma once

// "Audio CD project": the project file kind, in the Save As filter.
#define IDS_AUDIO_PROJECT_FILE_DESCRIPTION 8197
