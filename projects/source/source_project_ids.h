// The texts of the disc-copy and image-burn project types beside the
// framework's (project_ids.h): the project file's kind.
#pragma once
#define IDS_SOURCE_PROJECT_FILE 8197
