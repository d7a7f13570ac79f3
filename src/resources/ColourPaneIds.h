// Template and controls of the ColourPane.
#pragma once
