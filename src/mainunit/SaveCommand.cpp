// The Save command: a target from the save dialog, then the export job.

#include "TMainForm.h"

void TMainForm::btnSaveClick()
{
}
