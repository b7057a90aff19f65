# Files of src/links
