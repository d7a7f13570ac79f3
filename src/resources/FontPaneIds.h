// Template and controls of the FontPane.
#pragma once
