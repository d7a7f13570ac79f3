// Control and template ids of the program's message box.
#pragma once
